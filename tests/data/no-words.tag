No words with more than 2 letters occur at least twice.
