#pragma once
// The report of a configuration file as the editor prints it just after
// opening that file, written to a PDF.

#include "report/report.h"

#include <QDateTime>
#include <QString>
#include <optional>

struct ConfigurationPdfRequest {
    QString configFile;                        // .QLV; its .BGT beside it is read when present
    std::optional<ReportSection> section;      // nothing: print all
    QString pdfFile;
    int languageOffset = 0;                    // 0, 1000, 2000, 3000
    QDateTime now = QDateTime::currentDateTime();
};

// Writes the PDF through a temporary file beside it, so that a failure leaves
// an earlier PDF of that name as it was (and says so). A target that is not a
// regular file (or a link to one) is refused; a link is followed. Returns an
// empty text on success, otherwise what went wrong, naming the file.
QString PrintConfigurationToPdf(const ConfigurationPdfRequest& request);
