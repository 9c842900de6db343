#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray Lines(int count, const QByteArray& ending = "\r\n")
{
    QByteArray content;
    for (int k = 0; k < count; ++k)
        content += "text " + QByteArray::number(k) + ending;
    return content;
}

ConfigBlock Numbers(int from)
{
    ConfigBlock block;
    for (int k = 0; k < int(block.size()); ++k)
        block[k] = qint16((from + k) % 256);
    return block;
}

QByteArray Joined(const ConfigBlock& block, const QByteArray& separator)
{
    QByteArrayList items;
    for (qint16 v : block)
        items << QByteArray::number(v);
    return items.join(separator);
}

} // namespace

class ConfigFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QStandardPaths::setTestModeEnabled(true);
    }

    void writerIsByteExact()
    {
        ConfigBlock block{};
        block[0] = 7;
        block[1] = 255;
        block[2] = -12;
        const QByteArray text = FormatConfigBlock(block);
        QVERIFY(text.startsWith(" 7 \r\n 255 \r\n-12 \r\n 0 \r\n"));
        QVERIFY(text.endsWith(" 0 \r\n 0 \r\n"));
        QCOMPARE(text.count("\r\n"), 2048);
        QCOMPARE(text.size(), 2045 * 5 + 5 + 7 + 6);
    }

    // Every byte value in every slot, the uninterpreted slots included,
    // survives a save and a load.
    void everyValueSurvivesARoundTrip()
    {
        Vardelomod saved;
        for (int shift = 0; shift < 256; shift += 97) {
            const ConfigBlock block = Numbers(shift);
            std::copy(block.begin(), block.end(), saved.ConfigImage.begin());
            QVERIFY(WriteConfigurationFile(saved, Path("round.QLV")));
            Vardelomod loaded;
            loaded.ConfigImage[2100] = 42;   // work space is not touched
            QVERIFY(ReadConfigurationFile(loaded, Path("round.QLV")));
            QCOMPARE(ImageBlock(loaded), block);
            QCOMPARE(int(loaded.ConfigImage[2100]), 42);
        }
    }

    void everyValueInTheFreeSlotsSurvivesTheFormat()
    {
        for (int v = 0; v < 256; ++v) {
            ConfigBlock block = Numbers(v);
            for (int slot : {8, 10, 11, 12, 13, 14, 15})
                block[slot] = qint16(v);
            ConfigBlock back{};
            QVERIFY(ParseConfigBlock(FormatConfigBlock(block), back));
            QCOMPARE(back, block);
        }
    }

    // Every byte but CR and LF survives in a comment, in both directions.
    void everyCommentByteSurvives()
    {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n')
                bytes += char(b);
        QByteArray file;
        for (int k = 0; k < Vardelomod::RowEntries; ++k)
            file += bytes + "\r\n";
        WriteAll(Path("bytes.BGT"), file);
        Vardelomod m;
        LoadComments(m, Path("bytes.QLV"));
        QCOMPARE(m.ListComment[0].size(), 254);
        QVERIFY(SaveComments(m, Path("bytes2.BGT")));
        QCOMPARE(ReadAll(Path("bytes2.BGT")), file);
    }

    void readerAcceptsOtherSeparators_data()
    {
        QTest::addColumn<QByteArray>("content");
        const ConfigBlock block = Numbers(3);
        QTest::newRow("commas") << Joined(block, ",");
        QTest::newRow("commas and blanks") << Joined(block, " , ");
        QTest::newRow("blanks") << Joined(block, "  ");
        QTest::newRow("LF only") << Joined(block, "\n");
        QTest::newRow("CR only") << Joined(block, "\r");
        QTest::newRow("tabs, trailing text") << Joined(block, "\t") + "\r\nanything at all, 1 2 x";
        QTest::newRow("several to a line") << Joined(block, ",").replace(",1,", "\r\n1 ");
    }
    void readerAcceptsOtherSeparators()
    {
        QFETCH(QByteArray, content);
        ConfigBlock block{};
        const FileStatus status = ParseConfigBlock(content, block);
        QVERIFY2(status, qPrintable(status.message));
        QCOMPARE(block, Numbers(3));
    }

    // A short or damaged file is refused, names the place and leaves the
    // image as it was.
    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QByteArray good = FormatConfigBlock(Numbers(0));
        QTest::newRow("empty") << QByteArray() << "line 1: the file ends after 0 of 2048 numbers";
        QTest::newRow("2047 numbers") << good.left(good.lastIndexOf(" 255")) << "line 2048: the file ends after 2047 of 2048";
        QTest::newRow("text") << QByteArray(" 1 \r\n 2 \r\nabc\r\n") << "line 3 (slot 2): \"abc\" is not a whole number";
        QTest::newRow("decimal") << QByteArray("1\n2.5\n") << "line 2 (slot 1): \"2.5\" is not";
        QTest::newRow("too large") << QByteArray("1 32768") << "line 1 (slot 1): \"32768\" is outside -32768..32767";
        QTest::newRow("too small") << QByteArray("-32769") << "\"-32769\" is outside";
        QTest::newRow("empty entry") << QByteArray("1,,2") << "line 1 (slot 1): empty entry";
        QTest::newRow("sign only") << QByteArray("-\n") << "\"-\" is not";
        QTest::newRow("nul byte") << QByteArray("1\n\0\n", 4) << "line 2 (slot 1)";
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        WriteAll(Path("bad.QLV"), content);
        Vardelomod m;
        m.ConfigImage[0] = 99;
        const FileStatus status = ReadConfigurationFile(m, Path("bad.QLV"));
        QVERIFY(!status);
        QVERIFY2(status.message.contains(message), qPrintable(status.message));
        QVERIFY(status.message.startsWith(Path("bad.QLV") + ": "));
        QCOMPARE(int(m.ConfigImage[0]), 99);
    }

    void extremeValuesAreTaken()
    {
        ConfigBlock block = Numbers(0);
        block[8] = -32768;
        block[10] = 32767;
        ConfigBlock back{};
        QVERIFY(ParseConfigBlock(FormatConfigBlock(block), back));
        QCOMPARE(back, block);
    }

    void missingFileIsRefused()
    {
        Vardelomod m;
        const FileStatus status = ReadConfigurationFile(m, Path("none.QLV"));
        QVERIFY(!status);
        QVERIFY(status.message.contains("none.QLV"));
    }

    // A failed save leaves the previous file intact and reports a full disk
    // as such. The file size limit makes the write fail half-way.
    void failedSaveKeepsThePreviousFile()
    {
        Vardelomod m;
        m.ConfigImage[0] = 5;
        QVERIFY(WriteConfigurationFile(m, Path("keep.QLV")));
        const QByteArray before = ReadAll(Path("keep.QLV"));
        m.ConfigImage[0] = 6;

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileStatus status = WriteConfigurationFile(m, Path("keep.QLV"));
        setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!status);
        QVERIFY(status.diskFull);
        QVERIFY2(status.message.contains("keep.QLV"), qPrintable(status.message));
        QCOMPARE(ReadAll(Path("keep.QLV")), before);
        QCOMPARE(QDir(dir.path()).entryList({"keep*"}, QDir::Files | QDir::Hidden), QStringList{"keep.QLV"});
    }

    void saveIntoAMissingFolderFails()
    {
        const FileStatus status = WriteFileAtomically(Path("no/such/folder/x.QLV"), "1");
        QVERIFY(!status);
        QVERIFY(!status.diskFull);
        QVERIFY(!WriteFileAtomically(dir.path(), "1"));
    }

    void commentFileNames_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("comments");
        QTest::newRow("usual") << "/d/VARDELO.QLV" << "/d/VARDELO.BGT";
        QTest::newRow("small letters") << "/d/a.qlv" << "/d/a.BGT";
        QTest::newRow("no extension") << "/d/KARTEN" << "/d/KA.BGT";
        QTest::newRow("four letters") << "/d/ABCD" << "/d/.BGT";
        QTest::newRow("three letters: appended") << "/d/ABC" << "/d/ABC.BGT";
        QTest::newRow("one letter: appended") << "/d/A" << "/d/A.BGT";
        QTest::newRow("relative, short") << "AB" << "AB.BGT";
    }
    void commentFileNames()
    {
        QFETCH(QString, config);
        QFETCH(QString, comments);
        QCOMPARE(CommentFileNameFor(config), comments);
    }

    void commentFileLineCounts_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("entry0");
        QTest::addColumn<QString>("entry1999");
        QTest::addColumn<QString>("entry2000");
        QTest::newRow("missing") << QByteArray("<none>") << ResetCommentText << ResetCommentText << ResetCommentText;
        QTest::newRow("1999 lines: disregarded") << Lines(1999) << ResetCommentText << ResetCommentText << ResetCommentText;
        QTest::newRow("2000 lines") << Lines(2000) << "text 0" << "text 1999" << "kept";
        QTest::newRow("2001 lines") << Lines(2001) << "text 0" << "text 1999" << "text 2000";
        QTest::newRow("2005 lines") << Lines(2005) << "text 0" << "text 1999" << "text 2000";
        QTest::newRow("LF only") << Lines(2001, "\n") << "text 0" << "text 1999" << "text 2000";
        QTest::newRow("CR only") << Lines(2001, "\r") << "text 0" << "text 1999" << "text 2000";
        QTest::newRow("last line unended") << Lines(2001).chopped(2) << "text 0" << "text 1999" << "text 2000";
    }
    void commentFileLineCounts()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, entry0);
        QFETCH(QString, entry1999);
        QFETCH(QString, entry2000);
        const QString config = Path("counts.QLV");
        QFile::remove(Path("counts.BGT"));
        if (content != "<none>")
            WriteAll(Path("counts.BGT"), content);
        Vardelomod m;
        m.ListComment.fill("kept");
        LoadComments(m, config);
        QCOMPARE(m.CommentFileName, Path("counts.BGT"));
        QCOMPARE(m.ListComment[0], entry0);
        QCOMPARE(m.ListComment[1999], entry1999);
        QCOMPARE(m.ListComment[2000], entry2000);
        QVERIFY(QFile::exists(Path("counts.BGT")));   // the editor's opening creates it
    }

    void inspectionDoesNotCreateTheCommentsFile()
    {
        Vardelomod m;
        LoadComments(m, Path("look.QLV"), false);
        QVERIFY(!QFile::exists(Path("look.BGT")));
        QCOMPARE(m.ListComment[3], ResetCommentText);
    }

    void commentsSurviveSaveAndLoad()
    {
        Vardelomod m;
        ResetComments(m);
        m.ListComment[0] = QStringLiteral("Müller, Jörg  ");           // trailing blanks kept
        m.ListComment[1] = QStringLiteral("€ „quoted“ ß");
        m.ListComment[2] = QString();
        m.ListComment[3] = QStringLiteral("two\r\nlines");              // must not shift later rows
        m.ListComment[2000] = QStringLiteral("last");
        QVERIFY(SaveComments(m, Path("texts.BGT")));
        const QByteArray bytes = ReadAll(Path("texts.BGT"));
        QVERIFY(bytes.startsWith("M\xfcller, J\xf6rg  \r\n\x80 \x84quoted\x93 \xdf\r\n\r\ntwo  lines\r\n"));
        QCOMPARE(bytes.count("\r\n"), 2001);
        Vardelomod loaded;
        LoadComments(loaded, Path("texts.QLV"));
        QCOMPARE(loaded.ListComment[0], m.ListComment[0]);
        QCOMPARE(loaded.ListComment[1], m.ListComment[1]);
        QCOMPARE(loaded.ListComment[2], QString());
        QCOMPARE(loaded.ListComment[3], QStringLiteral("two  lines"));
        QCOMPARE(loaded.ListComment[4], ResetCommentText);
        QCOMPARE(loaded.ListComment[2000], QStringLiteral("last"));
    }

    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("languageText");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("com3 French") << QByteArray(" 3\r\n 2000\r\n") << 3 << 2000 << " 2000" << QByteArray(" 3\r\n 2000\r\n");
        QTest::newRow("LF lines, extra") << QByteArray("2\n1000\nmore\n") << 2 << 1000 << "1000" << QByteArray("2\n1000\nmore\n");
        QTest::newRow("no number") << QByteArray("com\r\n3000x\r\n") << 0 << 3000 << "3000x" << QByteArray("com\r\n3000x\r\n");
        QTest::newRow("port 9") << QByteArray("9\r\n0\r\n") << 0 << 0 << "0" << QByteArray("9\r\n0\r\n");
        QTest::newRow("odd language") << QByteArray("1\r\n 500\r\n") << 1 << 0 << " 500" << QByteArray("1\r\n 500\r\n");
        QTest::newRow("one line") << QByteArray(" 4\r\n") << 1 << 0 << "0" << QByteArray("1\r\n0\r\n");
        QTest::newRow("missing") << QByteArray() << 1 << 0 << "0" << QByteArray("1\r\n0\r\n");
    }
    void settingsFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, port);
        QFETCH(int, language);
        QFETCH(QString, languageText);
        QFETCH(QByteArray, fileAfter);
        const QString path = Path("settings/sub/VARDELO.ini");
        QDir(Path("settings")).removeRecursively();
        if (!content.isEmpty()) {
            QDir().mkpath(Path("settings/sub"));
            WriteAll(path, content);
        }
        Vardelomod m;
        ReadSettings(m, path);
        QCOMPARE(int(m.PortNumber), port);
        QCOMPARE(int(m.LanguageOffset), language);
        QCOMPARE(m.LanguageText, languageText);
        QCOMPARE(ReadAll(path), fileAfter);
    }

    void settingsAreWrittenWithLeadingBlank()
    {
        Vardelomod m;
        m.PortNumber = 2;
        m.LanguageText = QStringLiteral(" 1000");
        const QString path = Path("new/folder/VARDELO.ini");
        QVERIFY(WriteSettings(m, path));
        QCOMPARE(ReadAll(path), QByteArray(" 2\r\n 1000\r\n"));
    }

    void settingsLiveInTheUserConfigFolder()
    {
        const QString path = DefaultSettingsPath();
        QVERIFY(path.endsWith("/VARDELO.ini"));
        QVERIFY(path.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    }

    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "1000" << 1000;
        QTest::newRow("blanks") << "   2" << 2;
        QTest::newRow("tail") << " 3000abc" << 3000;
        QTest::newRow("none") << "x1" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("minus") << "-1" << 0;
        QTest::newRow("huge") << "99999999999999999999" << 1000000;
    }
    void leadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(LeadingNumber(text), value);
    }
};

QTEST_GUILESS_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
