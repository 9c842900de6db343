#include "texts/catalogue.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <array>

// The catalogue is compiled into the static core library, whose resources
// are not registered on their own.
static void RegisterCatalogueResource()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// Undoes the two escapes of the catalogue file: "\t" for a tab, "\\" for a
// backslash.
QString Unescape(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c == u'\\' && i + 1 < field.size()) {
            const QChar n = field.at(++i);
            out += (n == u't') ? QChar(u'\t') : n;
        } else {
            out += c;
        }
    }
    return out;
}

using Texts = QHash<int, std::array<QString, 4>>;

Texts LoadCatalogue()
{
    Texts texts;
    RegisterCatalogueResource();
    QFile file(QStringLiteral(":/texts.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    const QString all = QString::fromUtf8(file.readAll());
    for (const QString& line : all.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 5)
            continue;
        bool ok = false;
        const int id = fields.at(0).toInt(&ok);
        if (!ok)
            continue;
        texts.insert(id, {Unescape(fields.at(1)), Unescape(fields.at(2)), Unescape(fields.at(3)),
                          Unescape(fields.at(4))});
    }
    return texts;
}

const Texts& Catalogue()
{
    static const Texts texts = LoadCatalogue();   // read-only after the first use
    return texts;
}

struct Range {
    TextNumber first;
    TextNumber last;
};

} // namespace

QString CatalogueText(TextNumber id, int languageOffset)
{
    if (languageOffset % 1000 != 0 || languageOffset < 0 || languageOffset > 3000)
        return {};
    const auto it = Catalogue().constFind(id.value);
    if (it == Catalogue().constEnd())
        return {};
    return it->at(languageOffset / 1000);
}

QString CatalogueText(TextNumber id, int languageOffset, const QStringList& values)
{
    const QString text = CatalogueText(id, languageOffset);
    QString filled;
    filled.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int place = i + 1 < text.size() && text[i] == u'%' ? text[i + 1].digitValue() : -1;
        if (place >= 1 && place <= values.size()) {
            filled += values[place - 1];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

void LoadWindowTexts(ProgramState& program, TextWindow window)
{
    auto load = [&program](Range r) {
        for (TextNumber id = r.first; id <= r.last; id = id + 1)
            program.TextTable[id.value] = CatalogueText(id, program.LanguageOffset);
    };
    switch (window) {
    case TextWindow::Start: load({Text::SelectLanguage, Text::LanguageOk}); break;
    case TextWindow::Main: load({Text::MainWindowTitle, Text::ProgrammedTitle}); break;
    case TextWindow::RowEdit: load({Text::RowEditTitle, Text::DataStringTooShortTitle}); break;
    case TextWindow::DisplayLine: load({Text::DisplayLineTitle, Text::DisplayLineOk}); break;
    case TextWindow::Interface:
        load({Text::InterfaceTitle, Text::PortBusyTitle});
        load({Text::Com3, Text::Com8});
        break;
    case TextWindow::Password: load({Text::PasswordTitle, Text::PasswordTooShortTitle}); break;
    case TextWindow::Editor: load({Text::EditorTitle, Text::OverwriteQuestionEnd}); break;
    }
}

QString TableText(const ProgramState& program, TextNumber id)
{
    if (id.value < 100 || id.value > 1000)
        return {};
    return program.TextTable[id.value];
}
