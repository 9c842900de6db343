#pragma once
// The editor window on a sample configuration, as the editor tests open it:
// a folder, the program's state, the configuration and the fake message and
// file dialogs of its own. A test class derives from it and calls Reset() in
// init(), so that each case starts from an empty folder.

#include "common/fakes.h"
#include "config/configuration.h"
#include "config/programstate.h"
#include "editor/editorwindow.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class QTabWidget;

struct SampleSettings {
    int featureFlags = 0x04 | 0x10 | 0x40;   // magnetic-card signal, evaluation, block lists
    int trackFlags = 0x03;                    // both tracks
    int track2Digits = 8;                     // 4 slots
    int track3Digits = 24;                    // 12 slots
    int doorOpenTime = 5;
};

// Fills m's image with the settings and distinct rows and comments (every
// seventh longer than 33 characters), then writes the .QLV and .BGT files to
// path, which becomes m.CurrentConfigFile. False when a file was not written.
bool WriteSampleConfiguration(Configuration& m, const QString& path, const SampleSettings& settings = {});

class EditorFixture {
public:
    QTemporaryDir dir;
    ProgramState program;
    Configuration m;
    FakeMessages messages;
    FakeFileDialogs dialogs;
    // What the next editor is given; Reset() sets the fakes above again.
    Messages* messageBoxes = &messages;
    FileDialogs* fileDialogs = &dialogs;
    std::unique_ptr<EditorWindow> e;

    // Closes the editor and starts again with an empty folder, fresh state
    // and the fakes.
    void Reset();
    // Writes the sample configuration TEST.QLV with its comments into the
    // folder and builds the editor on it in the language given, from an
    // empty image, so that all it shows comes from the files. True when the
    // editor loaded them.
    bool Create(const SampleSettings& settings = {}, int language = 0);
    // Create, then the editor shown, active and on screen.
    bool Open(const SampleSettings& settings = {}, int language = 0);

    QString Path(const QString& name) const { return dir.filePath(name); }
    template <class T = QWidget> T* Child(const QString& name) const { return e->findChild<T*>(name); }
    QTabWidget* Tabs() const;
};
