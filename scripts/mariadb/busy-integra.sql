SET NAMES utf8mb4;
UPDATE integra SET busy='SIM' WHERE id_reg IN (5, 7);
