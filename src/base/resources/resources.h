#pragma once

// Registers the embedded resource trees (pictures, icons, translations).
// Needed once per process before the first resource path is used; safe to repeat.
void initTandrelResources();
