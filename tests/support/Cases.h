#pragma once

#include <QFile>
#include <QtTest>
#include <list>

/// Loads one table of test cases from a text file beside the test into the current data function.
/// A table starts with a line "[name]", then a line naming its columns, then one row a line: the row's
/// name and its fields, separated by "|" and trimmed; a field in double quotes keeps its blanks, with \t
/// and \n for a tab and a line break. Lines starting with '#' are comments. Every column is text; `Cell`
/// reads it as the test needs it. Case tables are data: they live apart from the test code so that a
/// case is one plain line to add.
inline void LoadCases(const QString& file, const QString& table)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read the cases in %s", qPrintable(file));
    bool inTable = false, columns = false;
    int count = 0;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.startsWith(u'[')) {
            inTable = line.trimmed() == u'[' + table + u']';
            continue;
        }
        if (!inTable || line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u'|');
        for (QString& field : fields) {
            field = field.trimmed();
            if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
                field = field.mid(1, field.size() - 2)
                            .replace(QStringLiteral("\\t"), QStringLiteral("\t"))
                            .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                            .replace(QStringLiteral("\\r"), QStringLiteral("\r"));
        }
        if (!columns) {
            static std::list<QByteArray> names; // QtTest keeps the column names' pointers, not copies
            for (const QString& column : fields.mid(1))
                QTest::addColumn<QString>(names.emplace_back(column.toLatin1()).constData());
            columns = true;
            count = fields.size();
            continue;
        }
        if (fields.size() != count)
            qFatal("%s [%s]: %s has %d fields, not %d", qPrintable(file), qPrintable(table), qPrintable(line),
                   int(fields.size()), count);
        QTestData& row = QTest::newRow(fields.first().toUtf8().constData());
        for (const QString& field : fields.mid(1))
            row << field;
    }
    if (!columns)
        qFatal("%s has no table [%s]", qPrintable(file), qPrintable(table));
}

/// A column of the current case as text, or as a number.
inline QString Cell(const char* column)
{
    return *static_cast<QString*>(QTest::qData(column, qMetaTypeId<QString>()));
}
inline int IntCell(const char* column)
{
    return Cell(column).toInt();
}
inline double RealCell(const char* column)
{
    return Cell(column).toDouble();
}

#define ORVELLE_CASES(file, table) LoadCases(QFINDTESTDATA(file), QStringLiteral(table))
