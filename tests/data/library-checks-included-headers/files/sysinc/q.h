char q;
