long g;
