namespace vivarium {}
