// vardelo-cli: the command-line companion of the configuration program.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    err << "usage: vardelo-cli show FILE.QLV\n";
    return 2;
}
