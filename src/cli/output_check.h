#pragma once

namespace vantrel::cli {

// `status`, once whatever was written to stdout has reached it; otherwise
// one line says why and the status is 1, as coreutils' programs do: a
// summary or a JSON document cut short by a full disk must not pass for a
// whole one. A reader that went away (a pipe into `head`) wanted no more,
// and leaves nothing cut short behind; nor does a caller who gave the
// program no stdout at all (on Windows the C runtime's stream then has no
// descriptor, and every write to it fails).
int withOutputChecked(int status);

}  // namespace vantrel::cli
