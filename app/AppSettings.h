#pragma once
// Names and defaults of the keys the main frame keeps in the settings file.
#include <QString>

namespace AppSettings {
inline const QString kIniName = QStringLiteral("VELQUIST.INI");
inline const QString kPrefsFile = QStringLiteral("velqopt.ini");
inline const QString kAppName = QStringLiteral("Velquist HTML Editor Version 2");
inline const QString kCompany = QStringLiteral("Velquist");
inline const QString kAppTitle = QStringLiteral("Velquist Pro 32 HTML Editor");
inline const QString kMainCaption = QStringLiteral("Velquist Pro HTML Editor");
inline const QString kVersion = QStringLiteral("Version 32.2.4.2");
inline const QString kAuthorTag = QStringLiteral("VQ");

inline const QString kHeader = QStringLiteral("Application Header");
inline const QString kOptions = QStringLiteral("Application Options");
inline const QString kEditor = QStringLiteral("Editor");
inline const QString kSystem = QStringLiteral("System");
inline const QString kStart = QStringLiteral("Start Options");
inline const QString kTags = QStringLiteral("Tags");
inline const QString kMru = QStringLiteral("MRU");

// Placeholders used while the user has not given their identity.
inline const QString kDefUserName = QStringLiteral("Your Name");
inline const QString kDefHomePage = QStringLiteral("http://www.example.com/");
inline const QString kDefEmail = QStringLiteral("you@example.com");
inline const QString kDefOrganisation = QStringLiteral("Your Organisation");

inline const QString kReady = QStringLiteral("Ready ...");
inline const QString kInternalError = QStringLiteral("An Internal Error was detected and corrected.");
}
