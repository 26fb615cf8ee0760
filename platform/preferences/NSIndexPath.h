#pragma once

// A row's place in a table: its section and its row within that section.
struct NSIndexPath {
    int section = 0;
    int row = 0;

    friend bool operator==(const NSIndexPath&, const NSIndexPath&) = default;
};
