#pragma once
// The editor's File menu commands for the card lists as CSV: export what the
// grids show (unsaved edits included) to a file the operator names, and
// import a file into the lists it names. An import takes every row or none:
// a refused file changes nothing and is answered with one message that names
// each bad line and its reason. A taken import counts as a change and refills
// the grids and comments as a read of the image would. What a command did
// (the file and its number of cards) is told through tell, for the status line.

#include <QString>
#include <functional>

class FileDialogs;
class Messages;
class QWidget;
struct ProgramState;
struct Configuration;

class CardListFiles {
public:
    CardListFiles(const ProgramState& program, Configuration& m, Messages& messages, FileDialogs& fileDialogs,
                  QWidget* window, std::function<void(const QString&)> tell = {});

    // True when a file was written or taken; a cancel or a refusal gives false.
    bool Export();
    bool Import();

private:
    const ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    FileDialogs& fileDialogs_;
    QWidget* window_;
    std::function<void(const QString&)> tell_;
};
