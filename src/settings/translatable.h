// Marks a text of the core that the window program shows translated. The
// core keeps and uses the text as it stands; the window program looks it up
// with QCoreApplication::translate(context, text), and lupdate finds it by
// the macro's name (Qt's own macro, defined here as Qt defines it, for the
// files that include no Qt).
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
