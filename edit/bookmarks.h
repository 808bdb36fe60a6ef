// Bookmarks on lines of the current text, and centring the cursor line.
//
// A bookmark is a flag of the line itself (LINK_BOOKMARK in the length
// word), so it moves with its line and is shared by duplicate views.
#pragma once

struct EditorState;

// Sets (clear 0) or clears (clear 1) the bookmark of the cursor line.
void SetBookmark(EditorState* V, int clear);
// To the nearest bookmarked line below (backwards 0) or above (1) the
// cursor line; "No Bookmark" when there is none that way.
void FindBookmark(EditorState* V, int backwards);
// Clears every bookmark of the current text.
void ClearBookmarks(EditorState* V);
// Centres the text of the cursor line between the margins; what stands
// left of the left margin stays.
void CenterLine(EditorState* V);

// The same as commands of the dispatcher, which hands every command an int.
inline void ClearBookmarks(EditorState* V, int) { ClearBookmarks(V); }
inline void CenterLine(EditorState* V, int) { CenterLine(V); }
