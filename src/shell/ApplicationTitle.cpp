#include "ApplicationTitle.h"

#include <QFileInfo>

QString applicationTitleOf(const QString &executablePath)
{
    const QString fileName = QFileInfo(executablePath).fileName();
    const QString name = fileName.left(fileName.indexOf(QLatin1Char('.')));
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}
