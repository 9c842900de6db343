// Print all of the largest configuration to PDF: one list of 1774 rows with
// accompanying texts (47 pages, 42 of them the list). Goal: under 1 s.
// usage: bench_report [RUNS] [KEEP.pdf]
#include "app/catalogue.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "report/ui/configurationpdf.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 7;

    QTemporaryDir dir;
    auto m = std::make_unique<Vardelomod>();
    m->ConfigImage[Slot::DoorOpenTime] = 5;
    m->ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
    m->ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
    EncodeDataLength(*m, TrackNo::Track2, 2);
    EncodeDataLength(*m, TrackNo::Track3, 24);
    LayOutLists(*m);
    for (int r = 0; r < m->ListCount1; ++r) {
        m->ListData[r] = QStringLiteral("%1").arg(r % 100, 2, 10, QChar(u'0'));
        EncodeRowData(*m, r);
        m->ListComment[r] = QStringLiteral("Mitarbeiterin %1, Gebäude Süd, Zutritt Tür %2").arg(r).arg(r % 17);
    }
    const QString qlv = dir.filePath(QStringLiteral("LARGEST.QLV"));
    if (!WriteConfigurationFile(*m, qlv) || !SaveComments(*m, CommentFileNameFor(qlv))) {
        out << "cannot write the configuration\n";
        return 1;
    }

    ConfigurationPdfRequest request;
    request.configFile = qlv;
    request.pdfFile = args.size() > 2 ? args[2] : dir.filePath(QStringLiteral("largest.pdf"));
    QList<qint64> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QString failure = PrintConfigurationToPdf(request);
        times << timer.elapsed();
        if (!failure.isEmpty()) {
            out << failure << "\n";
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    out << "print all, 1774 rows, " << runs << " runs: min " << times.first() << " ms, median "
        << times[times.size() / 2] << " ms, max " << times.last() << " ms (goal: under 1000 ms)\n";
    return times[times.size() / 2] < 1000 ? 0 : 1;
}
