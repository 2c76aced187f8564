
[exit 1]
Not decodable: This file is not valid shift_jis text.
The byte at position 255 does not begin a shift_jis character.
