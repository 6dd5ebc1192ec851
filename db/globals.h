#pragma once
// The run-wide values: set by the start-up, the logon and the main window, read by every window.
// They live this low so that the framework and the controls can read them too.
#include <QtCore/QString>

namespace zr::db {

inline QString WorkingDate;                         // "YYYY-MM-DD", the date new rows take
inline QString CurrentUserId = QStringLiteral("k"); // overwritten by logon or first-run setup
inline QString CurrentUserName = QStringLiteral("未登录用户");
inline bool CurrentUserIsSystem = false;
inline QString CurrentImeName;
inline bool JustEnrolled = false;  // first-run setup ran in this run: no backup offer at start
inline bool StartupFailed = false; // start-up must end before the main window runs
inline QString DataDirectory;      // the database directory; template files live here
inline QString ProgramDirectory;   // its parent, home of the attachment folder
inline QString TempDirectory;
inline QString OrganisationName;
inline QString ItemTitle = QStringLiteral("档案明细资料");
inline QString ItemQueryProgramName = QStringLiteral("档案明细资料查询管理");
inline int ArchiveNumberingMode = 0;
inline int MainClientHeight = 0; // the main window's client size: function windows fit in it
inline int MainClientWidth = 0;
inline int HelpContext = 2; // help topic of the active window

// Colours of data windows, as RGB (the stored values are the original BGR integers).
inline constexpr unsigned kDefaultBrowseColor = 15858430;
inline constexpr unsigned kDefaultEditColor = 16645614;
inline constexpr unsigned kDefaultFocusColor = 16316359;
inline constexpr unsigned kDefaultLabelColor = 12058046;
// "#rrggbb" of a stored BGR colour value.
QString colorName(unsigned bgr);

// Today as the program writes dates.
QString today();
// "YYYY-MM-DD" as the dialect's 'MM/DD/YYYY' literal text (without quotes).
QString dialectDate(const QString &isoDate);

} // namespace zr::db
