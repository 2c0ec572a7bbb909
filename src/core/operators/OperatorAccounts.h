#pragma once

#include "common/Result.h"

#include <QString>

// Operator accounts (table Admin): the checks made before an account is
// saved and the password change. Passwords are stored as salted hashes.
namespace operators {

inline QString protectedAccountName() { return QStringLiteral("riradu"); }
// Every account saved in Operator Setting gets this password; its owner
// then changes it.
inline QString defaultPassword() { return QStringLiteral("61837294"); }

inline QString levelOperator() { return QStringLiteral("Operator"); }
inline QString levelAdministrator() { return QStringLiteral("Administrator"); }

// The warning that refuses saving an account, or an empty text when the
// account may be saved. isNew: the account is being added (otherwise an
// existing one is being modified).
QString accountSaveRefusal(bool isNew, const QString &typedName, const QString &level);

enum class PasswordChange {
    Changed,
    ConfirmMismatch, // new and confirmation differ, or one is empty
    NoSuchAccount,
    WrongOldPassword,
    StoreFailed,
};

// Sets the new password of every account with that name once the old
// password matches the first account of that exact name.
PasswordChange changePassword(const QString &userName, const QString &oldPassword, const QString &newPassword,
                              const QString &confirmPassword, QString *error = nullptr);

} // namespace operators
