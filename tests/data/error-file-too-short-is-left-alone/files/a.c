unsigned u;
