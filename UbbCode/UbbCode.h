#pragma once
// OrvaneMarkup: converts the board's bracket markup, smiley codes and line
// breaks in post text to HTML.
