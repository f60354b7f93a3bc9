#include "reception/Grid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>

namespace rp {

namespace {
constexpr int ValueRole = Qt::UserRole + 1;
constexpr int TitleRole = Qt::UserRole + 2;   // a header's title as the format string gives it
} // namespace

class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(Grid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (m_grid->columnType(index.column()) != Grid::ColumnType::Boolean) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem base(option);
        initStyleOption(&base, index);
        base.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);
        const QString value = index.data(ValueRole).toString();
        if (value.isEmpty())
            return;
        QStyleOptionButton box;
        const QRect indicator = QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box, base.widget);
        box.rect = QRect(option.rect.center() - QPoint(indicator.width() / 2, indicator.height() / 2), indicator.size());
        box.state = QStyle::State_Enabled | (value == QLatin1String("True") ? QStyle::State_On : QStyle::State_Off);
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, base.widget);
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        auto *combo = new QComboBox(parent);
        combo->addItems(m_grid->columnComboList(index.column()));
        // A choice in the list is the edit: commit it at once, as the operator expects.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            emit const_cast<GridDelegate *>(this)->commitData(combo);
            emit const_cast<GridDelegate *>(this)->closeEditor(combo);
        });
        return combo;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        combo->setCurrentIndex(combo->findText(index.data(ValueRole).toString()));
        combo->showPopup();
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        if (combo->currentIndex() >= 0)
            m_grid->commitEditor(index.row() + 1, index.column(), combo->currentText());
    }

private:
    Grid *m_grid;
};

Grid::Grid(int columns, QWidget *parent) : QTableWidget(InitialRows - 1, columns, parent)
{
    m_types.resize(columns);
    m_alignments.fill(Qt::AlignLeft | Qt::AlignVCenter, columns);
    m_formats.resize(columns);
    m_lists.resize(columns);
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
}

void Grid::setFormatString(const QString &format)
{
    const QStringList parts = format.split(QLatin1Char('|'));
    for (int c = 0; c < parts.size() && c < columnCount(); ++c) {
        QString title = parts.at(c);
        Qt::Alignment align = Qt::AlignLeft;
        if (title.startsWith(QLatin1Char('^'))) {
            align = Qt::AlignHCenter;
            title.remove(0, 1);
        } else if (title.startsWith(QLatin1Char('>'))) {
            align = Qt::AlignRight;
            title.remove(0, 1);
        } else if (title.startsWith(QLatin1Char('<'))) {
            title.remove(0, 1);
        }
        m_alignments[c] = align | Qt::AlignVCenter;
        // The ideographic blanks of a title pad its column to a width; the columns have their own
        // widths, so the header shows the words alone and is not cut short in a narrow column.
        static const QRegularExpression blanks(QStringLiteral("\u3000+"));
        auto *header = new QTableWidgetItem(QString(title).replace(blanks, QStringLiteral("\u3000")).trimmed());
        header->setData(TitleRole, title);
        header->setTextAlignment(Qt::AlignCenter);
        setHorizontalHeaderItem(c, header);
        for (int r = 0; r < rowCount(); ++r)
            if (QTableWidgetItem *it = item(r, c))
                it->setTextAlignment(m_alignments[c]);
    }
}

void Grid::setColumnType(int col, ColumnType type) { m_types[col] = type; }

void Grid::setColumnFormat(int col, const QString &format) { m_formats[col] = format; }

void Grid::setColumnComboList(int col, const QString &list) { m_lists[col] = list.split(QLatin1Char('|')); }

QStringList Grid::columnComboList(int col) const { return m_lists.value(col); }

QString Grid::headerText(int col) const
{
    const QTableWidgetItem *h = horizontalHeaderItem(col);
    return h ? h->data(TitleRole).toString() : QString();
}

void Grid::ensureRows(int rowsWithHeader)
{
    if (rowsWithHeader - 1 > rowCount())
        setRowCount(rowsWithHeader - 1);
}

QTableWidgetItem *Grid::itemAt(int row, int col)
{
    ensureRows(row + 1);
    QTableWidgetItem *it = item(row - 1, col);
    if (!it) {
        it = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!m_lists[col].isEmpty())
            flags |= Qt::ItemIsEditable;
        it->setFlags(flags);
        it->setTextAlignment(m_alignments[col]);
        setItem(row - 1, col, it);
    }
    return it;
}

QString Grid::text(int row, int col) const
{
    if (row < 1 || row - 1 >= rowCount() || col < 0 || col >= columnCount())
        return row == 0 ? headerText(col) : QString();
    const QTableWidgetItem *it = item(row - 1, col);
    return it ? it->data(ValueRole).toString() : QString();
}

void Grid::setText(int row, int col, const QString &text)
{
    if (row < 1 || col < 0 || col >= columnCount())
        return;
    QTableWidgetItem *it = itemAt(row, col);
    it->setData(ValueRole, text);
    QString shown = text;
    if (m_types[col] == ColumnType::Boolean) {
        shown.clear();
    } else if (m_types[col] == ColumnType::Currency && !m_formats[col].isEmpty() && !text.isEmpty()) {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (ok) {
            static const QLocale japanese(QLocale::Japanese);
            shown = QStringLiteral("¥") + japanese.toString(qlonglong(std::llround(v)));
        }
    }
    it->setText(shown);
}

double Grid::value(int row, int col) const { return text(row, col).toDouble(); }

int Grid::row() const
{
    const int r = currentRow();
    return r < 0 ? 0 : r + 1;
}

int Grid::col() const
{
    const int c = currentColumn();
    return c < 0 ? 0 : c;
}

void Grid::select(int row, int col)
{
    if (row < 1) {
        setCurrentCell(-1, -1);
        return;
    }
    ensureRows(row + 1);
    setCurrentCell(row - 1, col);
}

void Grid::setCellBackground(int row, int col, const QColor &colour)
{
    if (row < 1)
        return;
    QTableWidgetItem *it = itemAt(row, col);
    it->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
}

void Grid::setCellToolTip(int row, int col, const QString &tip)
{
    if (row < 1)
        return;
    itemAt(row, col)->setToolTip(tip);
}

QString Grid::cellToolTip(int row, int col) const
{
    const QTableWidgetItem *it = row < 1 || row - 1 >= rowCount() ? nullptr : item(row - 1, col);
    return it ? it->toolTip() : QString();
}

QColor Grid::cellBackground(int row, int col) const
{
    if (row < 1 || row - 1 >= rowCount())
        return QColor();
    const QTableWidgetItem *it = item(row - 1, col);
    if (!it || it->background().style() == Qt::NoBrush)
        return QColor();
    return it->background().color();
}

void Grid::clearData()
{
    clearContents();
}

void Grid::clickCell(int row, int col)
{
    if (row < 1 || col < 0 || col >= columnCount())
        return;
    select(row, col);
    if (m_types[col] == ColumnType::Boolean) {
        bool cancel = false;
        emit beforeEdit(row, col, cancel);
        if (!cancel) {
            setText(row, col, text(row, col) == QLatin1String("True") ? QStringLiteral("False") : QStringLiteral("True"));
            emit afterEdit(row, col);
        }
    }
    emit cellClick();
}

bool Grid::editCell(int row, int col, const QString &text)
{
    bool cancel = false;
    emit beforeEdit(row, col, cancel);
    if (cancel)
        return false;
    select(row, col);
    setText(row, col, text);
    emit afterEdit(row, col);
    return true;
}

void Grid::commitEditor(int row, int col, const QString &value)
{
    if (text(row, col) == value)
        return;
    setText(row, col, value);
    emit afterEdit(row, col);
}

void Grid::rightClick(int row, int col) { emit mouseDown(2, row, col); }

void Grid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    const int r = index.isValid() ? index.row() + 1 : 0;
    const int c = index.isValid() ? index.column() : 0;
    if (event->button() == Qt::RightButton) {
        emit mouseDown(2, r, c);
        event->accept();
        return;
    }
    m_pressCell = index.isValid() ? QPoint(c, r) : QPoint(-1, -1);
    emit mouseDown(1, r, c);
    event->accept();
}

void Grid::mouseReleaseEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()
        || QPoint(index.column(), index.row() + 1) != m_pressCell) {
        event->accept();
        return;
    }
    const int r = index.row() + 1;
    const int c = index.column();
    clickCell(r, c);
    // A drop-down column opens its list once the click handlers have run, if the edit is allowed.
    if (!m_lists[c].isEmpty()) {
        bool cancel = false;
        emit beforeEdit(r, c, cancel);
        if (!cancel)
            editItem(itemAt(r, c));
    }
    event->accept();
}

} // namespace rp
