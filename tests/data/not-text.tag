
[exit 1]
Not a text file: This file is not a text file.
The byte at position 64
 is neither text nor whitespace.
