#pragma once
// The forms (the thirteen of the first design, then the Sections window), created once at start-up
// in a fixed order and reachable application-wide through these references.

#include <string>

class TMainWindow;
class TNewBox;
class TPaletteDialog;
class TLayerWindow;
class TTransDial;
class TSingleButDial;
class TDoubleButDial;
class TTripleButDial;
class TPropWindow;
class TAboutBox;
class TStatBox;
class TThreeDWindow;
class TValChDial;
class TSectionWindow;

extern TMainWindow* MainWindow;
extern TNewBox* NewBox;
extern TPaletteDialog* PaletteDialog;
extern TLayerWindow* LayerWindow;
extern TTransDial* TransDial;
extern TSingleButDial* SingleButDial;
extern TDoubleButDial* DoubleButDial;
extern TTripleButDial* TripleButDial;
extern TPropWindow* PropWindow;
extern TAboutBox* AboutBox;
extern TStatBox* StatBox;
extern TThreeDWindow* ThreeDWindow;
extern TValChDial* ValChDial;
extern TSectionWindow* SectionWindow;

// Creates the forms in order, the main window first. commandLine is the process
// command line as one text; the main window finds the file it names.
void CreateForms(const std::string& commandLine);
// Destroys every form once, the main window last, and clears the references.
void DestroyForms();
