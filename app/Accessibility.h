#pragma once
// What assistive technology (screen readers, test robots on the accessibility bus) reads
// of the editor's windows beyond what the toolkit gives by itself: roles and actions for
// the custom-painted controls, value labels that carry both their caption and their
// value, and menu items that report the state of the menu they sit in.

// Installs the accessible-interface factory. Call once, after the application object
// exists and before any window is made.
void InstallAccessibility();
