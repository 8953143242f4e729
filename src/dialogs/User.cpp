#include "User.h"

User::User()
{
    setObjectName(QStringLiteral("user"));
}

