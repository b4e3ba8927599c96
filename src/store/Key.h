#pragma once

#include <QByteArray>

namespace store {

// The fixed password of every Quorvel database; the user is never asked for it.
QByteArray databaseKey();

} // namespace store
