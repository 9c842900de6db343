#include "platform/console.h"

#include <cstdio>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

bool StandardInputIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return ::isatty(STDIN_FILENO) == 1;
#endif
}

namespace {

// Echo off for as long as it lives.
class EchoOff {
public:
    EchoOff()
    {
#ifdef Q_OS_WIN
        handle_ = GetStdHandle(STD_INPUT_HANDLE);
        active_ = GetConsoleMode(handle_, &saved_) && SetConsoleMode(handle_, saved_ & ~DWORD(ENABLE_ECHO_INPUT));
#else
        if (::tcgetattr(STDIN_FILENO, &saved_) == 0) {
            termios quiet = saved_;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            quiet.c_lflag |= ECHONL;
            active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
#endif
    }
    ~EchoOff()
    {
        if (!active_)
            return;
#ifdef Q_OS_WIN
        SetConsoleMode(handle_, saved_);
#else
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
#endif
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    bool active_ = false;
#ifdef Q_OS_WIN
    HANDLE handle_ = nullptr;
    DWORD saved_ = 0;
#else
    termios saved_{};
#endif
};

} // namespace

std::optional<QString> ReadLineWithoutEcho()
{
    // A password is short; a longer line is read to its end and cut.
    constexpr std::size_t MaxChars = 256;
    EchoOff quiet;
    std::string line;
    for (;;) {
        const int c = std::fgetc(stdin);
        if (c == EOF) {
            if (line.empty())
                return std::nullopt;
            break;
        }
        if (c == '\n')
            break;
        if (line.size() < MaxChars)
            line += char(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}
