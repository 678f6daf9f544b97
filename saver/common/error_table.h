// Which string of the module holds the message of an error code.
#pragma once

// 0 when the code has no message.
unsigned ErrorStringId(int code);

// Where a message line is drawn on the screen: at y = W/2 (half the width,
// as the saver always has) when the whole line fits below it, otherwise
// moved up just enough that the line stays visible.
int ErrorTextY(int clientWidth, int clientHeight, int lineHeight);
