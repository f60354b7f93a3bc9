// The benchmark program: times the operator's actions on a generated ten-year agency file.
// Usage: rosterpad_bench [section ...]   (no names: every section)
#include <QApplication>
#include <QStringList>

namespace rp::bench {
int RunSections(const QStringList &wanted);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rosterpad"));
    return rp::bench::RunSections(QApplication::arguments().mid(1));
}
