#include "operators/OperatorAccounts.h"

#include "common/PasswordHash.h"
#include "store/Database.h"

namespace operators {

QString accountSaveRefusal(bool isNew, const QString &typedName, const QString &level)
{
    auto count = store::exec(QStringLiteral("SELECT Count(UserName) as Temp FROM Admin WHERE UserName = :UserName"),
                             {{QStringLiteral("UserName"), typedName}});
    const int existing = count.ok && count.value.next() ? count.value.value(0).toInt() : 0;
    if (existing != 0) {
        if (isNew)
            return QStringLiteral("User Name has been exist,please input again.");
        // A name may be repeated with the other level. The account being
        // modified is among the rows, so saving it with its name and level
        // both unchanged is refused as well.
        auto rows = store::exec(QStringLiteral("SELECT * FROM Admin WHERE UserName = :UserName"),
                                {{QStringLiteral("UserName"), typedName}});
        while (rows.ok && rows.value.next()) {
            if (rows.value.value(QStringLiteral("UserName")).toString().compare(typedName, Qt::CaseInsensitive) == 0
                && rows.value.value(QStringLiteral("UserLevel")).toString() == level)
                return QStringLiteral("User Name has been exist,please input again");
        }
    }
    if (typedName.trimmed().isEmpty())
        return QStringLiteral("User Name empty,please input again!");
    return QString();
}

PasswordChange changePassword(const QString &userName, const QString &oldPassword, const QString &newPassword,
                              const QString &confirmPassword, QString *error)
{
    if (newPassword != confirmPassword || newPassword.isEmpty() || confirmPassword.isEmpty())
        return PasswordChange::ConfirmMismatch;

    auto accounts = store::exec(QStringLiteral("SELECT * FROM Admin"));
    if (!accounts.ok) {
        if (error)
            *error = accounts.error;
        return PasswordChange::StoreFailed;
    }
    bool found = false;
    QString stored;
    while (accounts.value.next()) {
        if (accounts.value.value(QStringLiteral("UserName")).toString() == userName) {
            found = true;
            stored = accounts.value.value(QStringLiteral("UserPassword")).toString();
            break;
        }
    }
    accounts.value.finish();
    if (!found)
        return PasswordChange::NoSuchAccount;
    if (!PasswordHash::verify(stored, oldPassword))
        return PasswordChange::WrongOldPassword;

    const auto upd = store::exec(QStringLiteral("UPDATE admin SET UserPassword = :UserPassword WHERE UserName = :UserName"),
                                 {{QStringLiteral("UserPassword"), PasswordHash::hash(newPassword)},
                                  {QStringLiteral("UserName"), userName}});
    if (!upd.ok) {
        if (error)
            *error = upd.error;
        return PasswordChange::StoreFailed;
    }
    return PasswordChange::Changed;
}

} // namespace operators
