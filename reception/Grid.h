#pragma once

#include <QColor>
#include <QTableWidget>
#include <QVector>

namespace rp {

// The board's grid: cells addressed by (row, column) where row 0 is the header and data starts at row 1.
// Boolean columns show a check box and read back "True"/"False"; a drop-down column offers a fixed list.
// A click runs before-edit / toggle / after-edit for boolean cells and then the click signal, in the order
// the board's handlers expect.
class Grid : public QTableWidget
{
    Q_OBJECT
public:
    enum class ColumnType { Text, Boolean, Date, DateTime, Currency, Single, Long };

    static constexpr int InitialRows = 50;   // header + 49 data rows

    Grid(int columns, QWidget *parent = nullptr);

    // "a|^b|>c": "|" separates columns, a leading "^" centres a column, ">" right-aligns it.
    void setFormatString(const QString &format);
    void setColumnType(int col, ColumnType type);
    ColumnType columnType(int col) const { return m_types.value(col, ColumnType::Text); }
    void setColumnFormat(int col, const QString &format);     // display format, "$#,###" for money
    void setColumnComboList(int col, const QString &list);    // "出勤|退勤"
    QStringList columnComboList(int col) const;
    QString headerText(int col) const;
    Qt::Alignment columnAlignment(int col) const { return m_alignments.value(col, Qt::AlignLeft); }

    int rows() const { return rowCount() + 1; }   // header included
    int cols() const { return columnCount(); }
    void ensureRows(int rowsWithHeader);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    double value(int row, int col) const;          // the cell read as a number (0 when empty)

    int row() const;     // current row, 0 when none
    int col() const;     // current column
    void select(int row, int col);

    void setCellBackground(int row, int col, const QColor &colour);   // invalid colour: default
    QColor cellBackground(int row, int col) const;
    void setCellToolTip(int row, int col, const QString &tip);   // empty: none
    QString cellToolTip(int row, int col) const;

    void clearData();    // every non-header cell: text and colour
    bool isEditing() const { return state() == EditingState; }   // a cell's editor (the duty list) is open

    // The operator's actions, as the mouse performs them (tests call them directly).
    void clickCell(int row, int col);
    bool editCell(int row, int col, const QString &text);   // a drop-down choice; false when refused
    void rightClick(int row, int col);

signals:
    void beforeEdit(int row, int col, bool &cancel);
    void afterEdit(int row, int col);
    void cellClick();
    void mouseDown(int button, int row, int col);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class GridDelegate;
    QTableWidgetItem *itemAt(int row, int col);
    void commitEditor(int row, int col, const QString &text);

    QVector<ColumnType> m_types;
    QVector<Qt::Alignment> m_alignments;
    QVector<QString> m_formats;
    QVector<QStringList> m_lists;
    QPoint m_pressCell{-1, -1};
};

} // namespace rp
