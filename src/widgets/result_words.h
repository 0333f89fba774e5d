// How a sign of a bus or fleet run went, in the window's language: the
// sign's own error, the link's own message and "No Connect" as they are,
// as their boxes show them.
#pragma once

#include <QCoreApplication>
#include <QString>

#include "transfer/sign_result.h"

namespace kvt {

class ResultWords {
    Q_DECLARE_TR_FUNCTIONS(kvt::ResultWords)

public:
    // "OK", "N differences", "not reached" or what went wrong.
    static QString Of(const SlaveResult& result);
    // What went wrong, "" for nothing; for a sign not reached why, when
    // known.
    static QString Reason(const SlaveResult& result);
};

}  // namespace kvt
