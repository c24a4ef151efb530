#pragma once
// The values the window keeps from one session to the next besides its controls' own state:
// read from the settings at start, used while it runs, written back at exit. The window owns
// them; the settings binding (MainFormSettings) is the one other class that writes them.

#include "settings/ComponentRecord.h"
#include "text/ColorNumber.h"

#include <QHash>
#include <QString>

namespace shell {

struct WindowValues
{
    bool fMaxForm = false;                    // the window was maximised when it closed
    int fNx2Width = 129;                      // the left pane's width as stored
    QString fLastfile;                        // the right pane's file at the last exit
    int FSpd = 150;                           // reading speed
    int fRepNum = 1;                          // how often a reading repeats
    text::ColorNumber fSelBgColor = 16744576; // the band over the text being read
    int fSpeechID = 0;                        // the speaker chosen
    int fTcyLength = 2;    // the longest run set upright in vertical writing (2 to 4)
    int fPoemForm = 0;     // the poem form the right pane counts against (reading::PoemForm)
    int fLeftPoemForm = 0; // and the left pane
    QHash<int, QString> launcherPaths;                      // the "起" buttons' programs
    QHash<QString, settings::DropTargetRecord> dropTargets; // the drop targets' places
};

} // namespace shell
