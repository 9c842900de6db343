// The demonstration configuration behind the run command is generated here
// through the codecs and must match the files committed under demo/. Run with
// VARDELO_WRITE_DEMO=1 to write them after a change of the generator.
#include "common/democonfig.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QFile>
#include <QtTest>

class DemoConfigTest : public QObject {
    Q_OBJECT
private:
    static QString DemoPath(const char* name)
    {
        return qEnvironmentVariable("VARDELO_SOURCE_DIR") + QStringLiteral("/demo/") + QLatin1String(name);
    }

private slots:
    void committedFilesMatchTheGenerator()
    {
        Vardelomod m;
        BuildDemoConfiguration(m);
        const QString qlv = DemoPath("DEMO.QLV");
        if (qEnvironmentVariableIsSet("VARDELO_WRITE_DEMO")) {
            QVERIFY(WriteConfigurationFile(m, qlv));
            QVERIFY(SaveComments(m, CommentFileNameFor(qlv)));
        }
        Vardelomod read;
        QVERIFY(ReadConfigurationFile(read, qlv));
        for (int slot = 0; slot < Vardelomod::BlockSlots; ++slot)
            QCOMPARE(read.ConfigImage[slot], m.ConfigImage[slot]);
        LoadComments(read, qlv, false);
        for (int row = 0; row < Vardelomod::RowEntries; ++row)
            QCOMPARE(read.ListComment[row], m.ListComment[row]);
    }

    // What the run command promises: all four lists in use with cards and
    // comments, German display texts, the password named in the README.
    void demoShowsWhatItShould()
    {
        Vardelomod m;
        BuildDemoConfiguration(m);
        DecodeLists(m);
        int cards = 0;
        int row = 0;
        for (int list = 1; list <= 4; ++list) {
            QVERIFY(ListInUse(m, list));
            const int count = m.ListCount(list);
            QVERIFY(count > 0);
            QVERIFY(!m.ListData[row].startsWith(QStringLiteral("0000")));   // first row is a card
            for (int k = 0; k < count; ++k, ++row)
                cards += m.ListComment[row] != ResetCommentText ? 1 : 0;
        }
        QVERIFY2(cards >= 24, qPrintable(QString::number(cards)));
        QCOMPARE(DecodePassword(m), DemoPassword);
        QCOMPARE(DecodeDisplayLine(m, 0), QStringLiteral("  Willkommen!   "));
        QCOMPARE(DecodeDisplayLine(m, 3), QStringLiteral(" Tür öffnet ... "));
        for (int line = 0; line < 16; ++line)
            QVERIFY(!DecodeDisplayLine(m, line).trimmed().isEmpty());
    }
};

QTEST_MAIN(DemoConfigTest)
#include "tst_democonfig.moc"
