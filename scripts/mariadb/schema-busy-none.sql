-- The recorder's two tables as the client relies on them; busy in: none.
SET NAMES utf8mb4;
CREATE TABLE integra (
    id INT AUTO_INCREMENT PRIMARY KEY,
    id_reg INT NOT NULL,
    ramal VARCHAR(20),
    duracao VARCHAR(10),
    numero VARCHAR(30),
    bilhete VARCHAR(255),
    KEY (id_reg),
    KEY (ramal)
) CHARACTER SET latin1;
CREATE TABLE registro (
    id INT AUTO_INCREMENT PRIMARY KEY,
    data_ini DATE,
    hora_ini TIME,
    path VARCHAR(255),
    obs TEXT,
    sentido VARCHAR(20),
    KEY (data_ini)
) CHARACTER SET latin1;
