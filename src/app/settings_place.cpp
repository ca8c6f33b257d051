#include "app/settings_place.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <unistd.h>

#include <cstdlib>

namespace quor {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string settingsFileFor(const SettingsPlaceFacts& facts) {
    if (facts.iniBesideProgram || facts.programFolderWritable) return facts.programFolder + kSettingsFileName;
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG rules say.
    std::string base = facts.xdgConfigHome;
    if (base.empty() || base[0] != '/') base = (facts.home.empty() ? std::string(".") : facts.home) + "/.config";
    return base + "/quorprn/" + kSettingsFileName;
}

std::string defaultSettingsFile() {
    SettingsPlaceFacts facts;
    facts.programFolder = QFile::encodeName(QCoreApplication::applicationDirPath() + '/').toStdString();
    facts.iniBesideProgram = access((facts.programFolder + kSettingsFileName).c_str(), F_OK) == 0;
    facts.programFolderWritable = access(facts.programFolder.c_str(), W_OK) == 0;
    facts.xdgConfigHome = environment("XDG_CONFIG_HOME");
    facts.home = environment("HOME");
    const std::string file = settingsFileFor(facts);
    if (file.rfind(facts.programFolder, 0) != 0) {
        const QString folder = QFile::decodeName(QByteArray::fromStdString(file.substr(0, file.rfind('/'))));
        QDir().mkpath(folder);
    }
    return file;
}

}  // namespace quor
