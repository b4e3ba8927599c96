#include "store/Key.h"

namespace store {

QByteArray databaseKey()
{
    return QByteArrayLiteral("Qv1902");
}

} // namespace store
