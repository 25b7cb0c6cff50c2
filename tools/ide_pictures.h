#pragma once

#include <QString>

namespace orben {

class Session;

// The user guide's pictures of the source editor, played on the real
// controls of `session` (TUKA-2 on, "Rápida" chosen):
//
//   ide.png        suma.asm opened and loaded with F9, a breakpoint on its
//                  OUT, a timed run stopped there: the line at PC marked in
//                  the editor and the listing, what the last step changed
//                  framed
//   ide_error.png  a mistyped mnemonic: F9 lists the error at its line and
//                  loads nothing
//
// `examples` is the folder of suma.asm. False when a step did not do what
// the guide says (the failure is reported through the session).
bool playIde(Session& session, const QString& examples);

}  // namespace orben
