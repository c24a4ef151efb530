#pragma once
// For the functions that fill TMainForm1's handler registry: HANDLER(New1Click) is the row
// that runs TMainForm1::New1Click under the name "New1Click". The name is written once and
// in full, and the compiler checks that the member exists.

#include "shell/Utamain.h"

#define HANDLER(member) shell::TMainForm1::HandlerRow(#member, &shell::TMainForm1::member)
