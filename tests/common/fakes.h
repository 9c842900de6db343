#pragma once
// Scripted stand-ins for the modal seams, shared by the tests.

#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/serialdevices.h"

#include <QHash>
#include <QSet>

#include <QList>
#include <QQueue>
#include <QString>
#include <optional>

class FakeMessages : public Messages {
public:
    struct Shown {
        QString prompt;
        QString title;
        Buttons buttons;
    };
    QList<Shown> shown;
    QQueue<Answer> answers;   // answered in order; when empty: Ok, Yes or Ok as the buttons allow

    Answer Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent = nullptr) override;
};

class FakeFileDialogs : public FileDialogs {
public:
    QList<FileDialogRequest> requests;
    QQueue<std::optional<QString>> names;   // nullopt: cancelled; empty queue: cancelled
    QQueue<bool> printerChoices;            // empty queue: cancelled
    // When set, a confirmed printer choice sends the report to this PDF file.
    QString printerPdfFile;
    int printerRequests = 0;
    QString proposedPdf;       // as the last printer choice or preview got it
    int previewRequests = 0;   // a preview paints into printerPdfFile when it is set

    std::optional<QString> Open(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    std::optional<QString> Save(const FileDialogRequest& request, QWidget* parent = nullptr) override;
    bool ChoosePrinter(QPrinter& printer, const QString& proposedPdf, QWidget* parent = nullptr) override;
    void PreviewPrint(QPrinter& printer, const QString& proposedPdf, const std::function<void(QPrinter&)>& paint,
                      QWidget* parent = nullptr) override;
};

// A system with the serial ports and device facts a test gives it. Paths it
// has no facts for are asked of the real system when realFiles is set (a
// temporary file, a pseudo-terminal), otherwise they do not exist.
class FakeSerialDevices : public SerialDevices {
public:
    QList<SerialPortEntry> ports;
    QHash<QString, DeviceFacts> facts;
    QHash<QString, QString> stableNames;   // device -> by-id name
    QSet<QString> withoutHardware;
    bool realFiles = false;
    QString user = QStringLiteral("anna");

    QList<SerialPortEntry> Ports() const override { return ports; }
    DeviceFacts Inspect(const QString& path) const override
    {
        if (facts.contains(path))
            return facts.value(path);
        return realFiles ? SystemSerialDevices().Inspect(path) : DeviceFacts();
    }
    QString StableName(const QString& path) const override { return stableNames.value(path); }
    bool HasHardware(const QString& path) const override { return !withoutHardware.contains(path); }
    QString UserName() const override { return user; }
};
