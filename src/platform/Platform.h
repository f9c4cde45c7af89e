#pragma once

#include <QString>

namespace tavlo {

class MessageBox;
class ProcessEnd;
class Connectivity;
class Clock;

// The side effects the program reaches through our own small layers. The program fills it
// with the real ones; tests fill it with their own and a temporary program folder.
struct Platform {
    MessageBox *messageBox = nullptr;
    ProcessEnd *processEnd = nullptr;
    Connectivity *connectivity = nullptr;
    const Clock *clock = nullptr;
    QString programFolder; // without a trailing separator
};

} // namespace tavlo
