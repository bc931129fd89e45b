#include "core/app_identity.h"

#include <QSysInfo>

namespace qmt::core {

namespace {

QString Capitalised(QString text) {
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

} // namespace

QString ApplicationTitle() {
    return QStringLiteral("QMT6171/2/3 Evaluation Software");
}

QString VersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(QMT_VERSION_MAJOR)
        .arg(QMT_VERSION_MINOR)
        .arg(QMT_VERSION_PATCH);
}

QString PlatformText() {
    const QString kernel = Capitalised(QSysInfo::kernelType());
    const QString product = QSysInfo::productType();
    if (product.isEmpty() || product == QLatin1String("unknown") ||
        product.compare(kernel, Qt::CaseInsensitive) == 0) {
        return kernel;
    }
    const QString version = QSysInfo::productVersion();
    QString distribution = Capitalised(product);
    if (!version.isEmpty() && version != QLatin1String("unknown")) {
        distribution += QLatin1Char(' ') + version;
    }
    return QStringLiteral("%1 (%2)").arg(kernel, distribution);
}

} // namespace qmt::core
