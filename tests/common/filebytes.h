// Files' bytes for the tests: to compare with, to write, and made-up contents.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

// What Bytes gives for a path that holds no regular file; no test file holds it.
inline const QByteArray MissingFile = "<missing>";

// A file's bytes, or MissingFile when there is no regular file to read
// (nothing, a folder; a FIFO, which would wait for a writer, is not opened).
inline QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : MissingFile;
}

inline bool WriteBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A picture of one colour as a BMP file holds it.
inline QByteArray BmpPicture(int width, int height, const QColor& colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

// The text of a PDF as pdftotext lays it out, its blanks collapsed.
inline QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

// Lines of bytes no text holds (a null byte, bytes above 127), CR LF ended.
inline QByteArray GarbageLines(int count)
{
    QByteArray lines;
    for (int k = 0; k < count; ++k)
        lines += QByteArray::fromHex("8f00e4ff1b5a3c07a9") + QByteArray::number(k * 7919) + "\r\n";
    return lines;
}
