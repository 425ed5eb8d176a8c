DO 0;
