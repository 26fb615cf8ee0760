#pragma once

// Registers the pane's controller and cell classes with the host's registries, by the names a
// row list and Info.plist use. The bundle's entry point calls it; tests call it directly.
void registerPaneClasses();
