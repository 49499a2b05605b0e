#pragma once

#include <QString>

// A short memory figure in the user's locale: whole "MB" below 2^30 bytes (any non-zero amount
// shows at least 1 MB), "GB" with one decimal from 2^30 bytes; units are powers of two.
QString formatBytes(quint64 bytes);
