unsigned local;
