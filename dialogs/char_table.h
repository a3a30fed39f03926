// The character table: every byte from 32 to 255 shown in the editor's font,
// to be picked and put into the document.
#pragma once

// IDM_CHARACTER_TABLE.
void CharacterTableCommand(int id);
