#include "platform/reportprinter.h"

QString ReportPrinter::NumberText(int number)
{
    return (number < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(number))
           + QLatin1Char(' ');
}
