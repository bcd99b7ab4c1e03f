// What the elements of a web page do to the text a browser shows; an element not known here
// (<b>, <span>, <a>) leaves it as it is, so app<b>le</b> stays one word.
#pragma once
#include <cstddef>

enum class ElementKind : unsigned char {
    Inline,        // no effect on the text
    Block,         // starts and ends a line
    LineBreak,     // <br>: ends a line, even an empty one
    Cell,          // <td>, <th>: a tab from the cell before
    Preformatted,  // <pre>, <listing>: white space and line feeds kept, until the end tag
    Title,         // <title>: its text, references read, until </title>, on a line of its own
    TextArea,      // <textarea>: the same, preformatted
    Hidden,        // <script>, <style>...: text up to the end tag, never shown
    Example,       // <xmp>: text up to the end tag, shown preformatted, references not read
    PlainText,     // <plaintext>: the rest of the page is text, preformatted
    Template,      // <template>: nothing shown until the end tag
};

// The longest name of an element elementKind knows: a tag's name need be kept no further.
const std::size_t ELEMENT_NAME_CAP = 12;

// The kind of the element named by the length lower-case letters and digits of name; the
// names it knows have at most ELEMENT_NAME_CAP.
ElementKind elementKind(const char* name, std::size_t length);
