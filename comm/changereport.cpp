#include "comm/changereport.h"

#include "texts/catalogue.h"

#include <QJsonArray>

namespace {

QString Label(TextNumber id, int language)
{
    QString text = CatalogueText(id, language).trimmed();
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

QString SettingValue(const SettingChange& c, int value, const QString& text, int language)
{
    switch (SettingEntry(c.key).values) {
    case SettingValues::Seconds: return QString::number(value) + CatalogueText(Text::ReportSeconds, language);
    case SettingValues::Password: return text;
    case SettingValues::Digits: return QString::number(value);
    case SettingValues::YesNo: break;
    }
    return CatalogueText(value ? Text::ReportYes : Text::ReportNo, language).trimmed();
}

QString Card(const CardChange& c)
{
    return c.comment == ResetCommentText ? c.data : c.data + QStringLiteral("  ") + c.comment;
}

QJsonArray Cards(const QList<CardChange>& cards)
{
    QJsonArray out;
    for (const CardChange& c : cards)
        out.append(QJsonObject{{QStringLiteral("list"), c.list}, {QStringLiteral("data"), c.data},
                               {QStringLiteral("comment"), c.comment}});
    return out;
}

} // namespace

QString ChangeText(TextNumber id, int languageOffset)
{
    return CatalogueText(id, languageOffset);
}

QStringList SummarizeChanges(const ConfigDifference& d, int language)
{
    if (d.Empty())
        return {CatalogueText(Text::NoChange, language)};
    QStringList lines;
    if (!d.settings.isEmpty())
        lines << CatalogueText(Text::SettingsChanged, language).arg(d.settings.size());
    for (int list = 1; list <= 4; ++list)
        if (d.Added(list) || d.Removed(list))
            lines << CatalogueText(Text::ListChanged, language).arg(list).arg(d.Added(list)).arg(d.Removed(list));
    if (!d.display.isEmpty())
        lines << CatalogueText(Text::DisplayTextsChanged, language).arg(d.DisplayTextsChanged());
    if (d.otherSlots)
        lines << CatalogueText(Text::OtherBytesChanged, language).arg(d.otherSlots);
    if (!d.comments.isEmpty())
        lines << CatalogueText(Text::CommentsChanged, language).arg(d.comments.size());
    return lines;
}

QList<ChangeLine> DescribeChanges(const ConfigDifference& d, int language)
{
    QList<ChangeLine> lines;
    for (const SettingChange& c : d.settings)
        lines.append({Label(TextNumber(SettingEntry(c.key).reportText), language),
                      SettingValue(c, c.oldValue, c.oldText, language),
                      SettingValue(c, c.newValue, c.newText, language)});
    for (const CardChange& c : d.added)
        lines.append({CatalogueText(Text::CardAdded, language).arg(c.list), QString(), Card(c)});
    for (const CardChange& c : d.removed)
        lines.append({CatalogueText(Text::CardRemoved, language).arg(c.list), Card(c), QString()});
    for (const DisplayChange& c : d.display)
        lines.append({CatalogueText(Text::DisplayLineChanged, language).arg(c.line / 2 + 1).arg(c.line % 2 + 1),
                      u'"' + c.oldText + u'"', u'"' + c.newText + u'"'});
    for (const CommentChange& c : d.comments)
        lines.append(
            {CatalogueText(Text::CommentChanged, language).arg(c.list).arg(c.data), c.oldComment, c.newComment});
    if (d.otherSlots)
        lines.append({CatalogueText(Text::OtherBytesChanged, language).arg(d.otherSlots), QString(), QString()});
    return lines;
}

QStringList ChangeReportLines(const ConfigDifference& d, int language)
{
    QStringList lines = SummarizeChanges(d, language);
    const auto side = [](const QString& text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    for (const ChangeLine& line : DescribeChanges(d, language)) {
        if (line.before.isEmpty() && line.after.isEmpty())
            lines << QStringLiteral("  ") + line.what;
        else
            lines << QStringLiteral("  %1: %2 -> %3").arg(line.what, side(line.before), side(line.after));
    }
    return lines;
}

QJsonObject DifferenceJson(const ConfigDifference& d)
{
    QJsonArray settings;
    for (const SettingChange& c : d.settings) {
        const bool text = SettingEntry(c.key).values == SettingValues::Password;
        settings.append(QJsonObject{{QStringLiteral("setting"), c.name},
                                    {QStringLiteral("old"), text ? QJsonValue(c.oldText) : QJsonValue(c.oldValue)},
                                    {QStringLiteral("new"), text ? QJsonValue(c.newText) : QJsonValue(c.newValue)}});
    }
    QJsonArray display;
    for (const DisplayChange& c : d.display)
        display.append(QJsonObject{{QStringLiteral("line"), c.line}, {QStringLiteral("old"), c.oldText},
                                   {QStringLiteral("new"), c.newText}});
    QJsonArray comments;
    for (const CommentChange& c : d.comments)
        comments.append(QJsonObject{{QStringLiteral("list"), c.list}, {QStringLiteral("data"), c.data},
                                    {QStringLiteral("old"), c.oldComment}, {QStringLiteral("new"), c.newComment}});
    return QJsonObject{{QStringLiteral("equal"), d.Empty()},
                       {QStringLiteral("settings"), settings},
                       {QStringLiteral("added"), Cards(d.added)},
                       {QStringLiteral("removed"), Cards(d.removed)},
                       {QStringLiteral("display"), display},
                       {QStringLiteral("comments"), comments},
                       {QStringLiteral("otherBytes"), d.otherSlots}};
}
