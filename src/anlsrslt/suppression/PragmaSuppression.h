// Suppression regions opened and closed by pragmas in the sources.
#pragma once

// Registers the record handlers that collect the pragma regions. Called once
// per run by the driver before the first input file is read; it registers
// nothing.
void registerPragmaSuppressHandlers();
