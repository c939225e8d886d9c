struct Item {};
