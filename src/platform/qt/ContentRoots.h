// Finds the content roots at start-up: the shipped content and the user's data folder.
#pragma once

// Sets the support root to the installed content (<prefix>/share/casavelt next to the
// program) or, in a build tree, to the source tree's content folder; sets the shared
// root and the user's support root to the user's generic data folder.
void InstallContentRoots();
