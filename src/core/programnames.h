#pragma once

#include <QString>

namespace programnames {

// The program title: the settings' organisation and application name, and the
// browser profile's name.
inline const QString kApplication = QStringLiteral("Paperpull");
inline const QString kOrganisation = QStringLiteral("Paperpull");

} // namespace programnames
