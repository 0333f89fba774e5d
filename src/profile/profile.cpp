#include "profile/profile.h"

#include <QDir>
#include <QSettings>
#include <QString>
#include <QStandardPaths>

namespace kvt {

namespace {

const char* const kSection = "KVT-540-M_Section";

QString ConfigFolder() {
    QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    if (!xdg.isEmpty()) return QString::fromLocal8Bit(xdg);
    return QDir::homePath() + "/.config";
}


}  // namespace

std::string ProfilePath() { return (ConfigFolder() + "/KVT540M.INI").toStdString(); }

std::string LinkSectionKey(const std::string& key) { return std::string(kSection) + "/" + key; }

int ReadProfileInt(const std::string& key, int def) {
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    bool ok = false;
    int value = profile.value(QString::fromStdString(LinkSectionKey(key))).toInt(&ok);
    return ok ? value : def;
}

bool WriteProfileInt(const std::string& key, int value) {
    QDir().mkpath(ConfigFolder());
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    profile.setValue(QString::fromStdString(LinkSectionKey(key)), value);
    profile.sync();
    return profile.status() == QSettings::NoError;
}

std::string ReadProfileString(const std::string& key, const std::string& def) {
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    const QVariant value = profile.value(QString::fromStdString(key), QString::fromStdString(def));
    return value.toString().toStdString();
}

bool WriteProfileString(const std::string& key, const std::string& value) {
    QDir().mkpath(ConfigFolder());
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    profile.setValue(QString::fromStdString(key), QString::fromStdString(value));
    profile.sync();
    return profile.status() == QSettings::NoError;
}

bool WriteDevicePath(int portIndex, const std::string& device) {
    return WriteProfileString("Devices/COM" + std::to_string(portIndex + 1), device);
}

std::string PortDevicePath(int portIndex) {
    if (portIndex < 0 || portIndex > 2) portIndex = 0;
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    QString key = QString("Devices/COM%1").arg(portIndex + 1);
    QString fallback = QString("/dev/ttyS%1").arg(portIndex);
    QString path = profile.value(key, fallback).toString();
    return (path.isEmpty() ? fallback : path).toStdString();
}

std::string ResolvePortName(const std::string& name) {
    QString n = QString::fromStdString(name).trimmed().toUpper();
    if (n == "COM1") return PortDevicePath(0);
    if (n == "COM2") return PortDevicePath(1);
    if (n == "COM3") return PortDevicePath(2);
    return name;
}

std::string ReadProfileLanguage() {
    return ReadProfileString(LinkSectionKey(kLanguageKey));
}

bool WriteProfileLanguage(const std::string& language) {
    return WriteProfileString(LinkSectionKey(kLanguageKey), language);
}

void LoadLinkChoicesFromProfile(int* comPortIndex, int* lineMode) {
    *comPortIndex = ReadProfileInt(kComPortKey, 0);
    *lineMode = ReadProfileInt(kRsControlKey, 0);
}

}  // namespace kvt
