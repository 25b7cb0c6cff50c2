; multiplica.asm: multiplica dos números con desplazamientos y sumas.
;
; Por cada bit del multiplicador, de menor a mayor peso: si el bit es 1,
; el multiplicando se suma al producto; después el multiplicando se
; desplaza a la izquierda (x 2) y el multiplicador a la derecha.
; TUKA-2 no tiene AND: R2 AND 1 se hace con dos NAND.
;
; Resultado: 13 x 11 = 143, el puerto de salida 01 muestra 008F.
;
; Ensamblar:  tuka2 asm multiplica.asm -o multiplica.ehc
; Ejecutar:   tuka2 run multiplica.ehc

A       EQU 13              ; multiplicando
B       EQU 11              ; multiplicador

        LLI R0, 0           ; la constante 0
        LLI R1, A           ; multiplicando, desplazado a la izquierda
        LLI R2, B           ; multiplicador, desplazado a la derecha
        LLI R3, 0           ; producto
        LLI R4, 1           ; máscara del bit de menor peso
bucle:  ADDS R2, R2, R0     ; Z si el multiplicador ya es 0
        LDI RD, fin
        BZ
        NAND R5, R2, R4     ; R5 := NOT (R2 AND 1)
        NAND R5, R5, R5     ; R5 := R2 AND 1 (Z si el bit es 0)
        LDI RD, sin_suma
        BZ
        ADDS R3, R3, R1     ; producto := producto + multiplicando
sin_suma:
        SHL R1
        SHR R2
        LDI RD, bucle
        BR
fin:    OUT H'01, R3
        HALT
