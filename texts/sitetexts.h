#pragma once
// The operator's words for a site file: why it cannot be used, each problem
// named with its line, and the texts of a site run, from the text catalogue
// in one language.

#include "config/sitefile.h"

#include <QList>
#include <QString>

// One problem, without its line.
QString SiteProblemText(const SiteProblem& problem, int languageOffset);
// Why a site file cannot be used, naming it: the file's own refusal, or the
// problems by line (the first 20 lines, then how many more). Empty for a
// usable site.
QString SiteFileMessage(const SiteFileRead& read, const QString& fileName, int languageOffset);
// The same for problems found after the file was read (its passwords).
QString SiteProblemsMessage(const QList<SiteProblem>& problems, const QString& fileName, int languageOffset);
