#include "common/spreadsheetedit.h"

#include "config/configimage.h"
#include "config/csvtable.h"

#include <QStringList>
#include <utility>

namespace {
const QString NewComment = QStringLiteral("Servicetechniker, neuer Vertrag");
const QString AddedCard = QStringLiteral("30000001");
const QString AddedComment = QStringLiteral("neu \"gesperrt\"");
}

QByteArray SpreadsheetEdit(const QByteArray& exported)
{
    QList<QStringList> rows;
    for (const CsvRecord& record : ReadCsvTable(exported).records)
        rows << record.fields;
    // Header, 12 cards of list 1, 9 of list 2, 5 of list 3, 3 of list 4.
    if (rows.size() != 30)
        return {};
    rows.swapItemsAt(1, 2);
    rows[14][4] = NewComment;
    rows.insert(27, {"3", rows[26][1], "", AddedCard, AddedComment});
    QByteArray edited;
    for (const QStringList& fields : std::as_const(rows)) {
        QStringList out;
        for (const QString& field : fields)
            out << CsvField(field, u';');
        edited += out.join(u';').toUtf8() + "\r\n";
    }
    return edited;
}

void ApplySpreadsheetEdit(Configuration& m)
{
    const int list2 = m.ListCount1, list3 = list2 + m.ListCount2;
    std::swap(m.ListData[0], m.ListData[1]);
    std::swap(m.ListComment[0], m.ListComment[1]);
    m.ListComment[list2 + 1] = NewComment;
    m.ListData[list3 + 5] = AddedCard;
    m.ListComment[list3 + 5] = AddedComment;
    for (int row : {0, 1, list3 + 5})
        EncodeRowData(m, row);
}
