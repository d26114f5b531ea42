// What the user's locale says about numbers on screen.
#pragma once

// The user's decimal separator ('.' when it is not a single 8-bit character).
char SystemDecimalSeparator();
