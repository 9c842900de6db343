// Print all of the largest configuration to PDF: one list of 1774 rows with
// accompanying texts (47 pages, 42 of them the list), from reading the file
// to the finished PDF, as `vardelo-cli print --section all` does it.
// Goal: under 1 s. Also the report alone on the recording printer.
#include "common/recordingreportprinter.h"
#include "texts/catalogue.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "report/modelreportsource.h"
#include "report/report.h"
#include "report/ui/configurationpdf.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {
QTemporaryDir* Folder()
{
    static QTemporaryDir dir;
    return &dir;
}

// The largest configuration: track 2 only, one digit per record slot pair,
// 1774 rows, every row with its accompanying text.
QString LargestConfiguration()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    auto m = std::make_unique<Configuration>();
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
    path = Folder()->filePath(QStringLiteral("LARGEST.QLV"));
    if (!WriteConfigurationFile(*m, path) || !SaveComments(*m, CommentFileNameFor(path)))
        path.clear();
    return path;
}

void PrintAllToPdf(benchmark::State& state)
{
    ConfigurationPdfRequest request;
    request.configFile = LargestConfiguration();
    request.pdfFile = Folder()->filePath(QStringLiteral("largest.pdf"));
    for (auto _ : state) {
        if (!PrintConfigurationToPdf(request).isEmpty())
            state.SkipWithError("the PDF could not be written");
    }
}

void PrintAllRecorded(benchmark::State& state)
{
    auto program = std::make_unique<ProgramState>();
    LoadWindowTexts(*program, TextWindow::Editor);
    auto m = std::make_unique<Configuration>();
    ReadConfigurationFile(*m, LargestConfiguration());
    LoadComments(*m, LargestConfiguration(), false);
    const ModelReportSource source(*program, *m);
    for (auto _ : state) {
        RecordingReportPrinter printer;
        Report report(printer, source, QDateTime::currentDateTime());
        benchmark::DoNotOptimize(report.PrintAll());
    }
}
}

BENCHMARK(PrintAllToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(PrintAllRecorded)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
